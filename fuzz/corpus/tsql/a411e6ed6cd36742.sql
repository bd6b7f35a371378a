SELECT Distinct v1.FNumber FROM t_ICItem v1  Inner join t_Item v2 on v1.FItemID=v2.FITemID 
 INNER JOIN t_Item t9 ON LEFT(v2.FNumber,LEN(v2.FNumber)-CHARINDEX('.',REVERSE(RTRIM(v2.FNumber)))) = t9.FNumber
 INNER JOIN t_ItemRight t7 ON t9.FItemID=t7.FItemID
 WHERE 1=1 AND t7.FTypeID=4
AND (t7.FuserID=16395 OR t7.FUserID IN (Select FGroupID From t_Group Where FGroupID <> 0 And FUserID=16395 ))
