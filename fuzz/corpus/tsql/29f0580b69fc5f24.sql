SELECT Distinct t1.FNumber FROM t_Organization t1  INNER JOIN t_ItemRight t7 ON t1.FItemID=t7.FItemID
WHERE 1=1AND t7.FTypeID=1
AND (t7.FuserID=16396 OR t7.FUserID IN (Select FGroupID From t_Group Where FGroupID <> 0 And FUserID=16396 ))
