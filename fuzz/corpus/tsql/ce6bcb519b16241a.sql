 SELECT t1.FItemID,t1.FName,t1.FNumber,t1.FParentID,1 as FDetail 
FROM t_Organization t1 
INNER JOIN t_Item t9 ON LEFT(t1.FNumber,LEN(t1.FNumber)-CHARINDEX('.',REVERSE(RTRIM(t1.FNumber)))) = t9.FNumber
INNER JOIN t_ItemRight t7 ON t9.FItemID=t7.FItemID
WHERE 1=1AND t7.FTypeID=1
AND (t7.FuserID=16395 OR t7.FUserID IN (Select FGroupID From t_Group Where FGroupID <> 0 And FUserID=16395 ))
 ORDER BY t1.FNumber